#include "ui/MenuPrograms.h"

namespace tavrel {

std::vector<ProgramCommand> mixerCommands(bool transmit) {
    // pavucontrol's tabs: 3 output devices, 4 input devices.
    return {{"pavucontrol", {transmit ? "--tab=3" : "--tab=4"}},
            {"pavucontrol-qt", {}},
            {"pwvucontrol", {}},
            {"gnome-control-center", {"sound"}}};
}

std::vector<ProgramCommand> editorCommands() {
    return {{"gnome-text-editor", {}},
            {"gedit", {}},
            {"mousepad", {}},
            {"kate", {}},
            {"kwrite", {}},
            {"xed", {}},
            {"pluma", {}},
            {"featherpad", {}},
            {"leafpad", {}},
            {"geany", {}}};
}

std::vector<ProgramCommand> greyLineCommands() {
    return {{"sunclock", {}}, {"xglobe", {}}, {"xearth", {}}};
}

std::string commandText(const ProgramCommand& c) {
    std::string text = c.program;
    for (const std::string& a : c.args)
        text += " " + a;
    return text;
}

LaunchResult launchFirst(const std::vector<ProgramCommand>& commands, const ProgramRunner& runner) {
    LaunchResult result;
    std::string tried;
    for (const ProgramCommand& c : commands) {
        const std::string path = runner.find(c.program);
        if (!tried.empty()) tried += "\n";
        if (path.empty()) {
            tried += commandText(c) + " (not installed)";
            continue;
        }
        if (runner.start(path, c.args)) {
            result.started = true;
            result.what = commandText(c);
            return result;
        }
        tried += commandText(c) + " (" + path + " did not start)";
    }
    result.what = tried;
    return result;
}

std::string findFirst(const std::vector<ProgramCommand>& commands, const ProgramRunner& runner) {
    for (const ProgramCommand& c : commands)
        if (std::string path = runner.find(c.program); !path.empty()) return path;
    return {};
}

} // namespace tavrel
