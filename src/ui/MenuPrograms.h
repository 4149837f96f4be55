#pragma once
// The outside programs the menus start: the desktop's sound mixer, a text editor and a
// grey-line map. Each is the first of a short list that is installed and starts; when none does,
// the operator is told every command that was tried.

#include <functional>
#include <string>
#include <vector>

namespace tavrel {

struct ProgramCommand {
    std::string program; // a name searched on the PATH
    std::vector<std::string> args;
};

// The mixer at its output (transmit) or input (receive) devices.
std::vector<ProgramCommand> mixerCommands(bool transmit);
std::vector<ProgramCommand> editorCommands();
std::vector<ProgramCommand> greyLineCommands();

// "program arg arg"
std::string commandText(const ProgramCommand& c);

// How programs are found and started; the real one searches the PATH and starts detached.
struct ProgramRunner {
    std::function<std::string(const std::string& program)> find; // full path, "" when not installed
    std::function<bool(const std::string& path, const std::vector<std::string>& args)> start;
};

struct LaunchResult {
    bool started = false;
    std::string what; // the command that started, or every command tried and why it failed
};

LaunchResult launchFirst(const std::vector<ProgramCommand>& commands, const ProgramRunner& runner);

// The first installed program of the list, "" when none.
std::string findFirst(const std::vector<ProgramCommand>& commands, const ProgramRunner& runner);

} // namespace tavrel
