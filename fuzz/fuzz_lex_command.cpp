// Any bytes as a UI event's command string: parsed, bound and called.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lex_binded_function_manager.h"

namespace {

struct Target {
    std::size_t calls = 0;
    std::size_t argumentBytes = 0;
    void plain() { ++calls; }
    void withArgument(std::string value) {
        ++calls;
        argumentBytes += value.size();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string command(reinterpret_cast<const char*>(data), size);
    std::string name;
    std::vector<std::string> arguments;
    if (QV::parseLexCommand(command, name, arguments)) {
        if (name.size() < 2 || name.find(':') != std::string::npos) __builtin_trap();
        std::size_t total = name.size();
        for (const std::string& a : arguments) {
            if (a.find(' ') != std::string::npos || a.find(',') != std::string::npos) __builtin_trap();
            total += a.size();
        }
        if (total > command.size()) __builtin_trap();
    }

    Target target;
    QV::LexBindedFunctionManager manager;
    manager.registerBinder("show", new QV::LexBinder1<std::string, Target>(&target, &Target::withArgument));
    manager.registerBinder("exit", new QV::LexBinder<Target>(&target, &Target::plain));
    manager.registerBinder(name, new QV::LexBinder1<std::string, Target>(&target, &Target::withArgument));
    if (QV::LexBindedFunction* function = manager.bindCommand(command)) {
        function->call();
        delete function;
        if (target.calls != 1) __builtin_trap();
    }
    return 0;
}
