#include "lex_binded_function_manager.h"

namespace QV {

bool parseLexCommand(const std::string& command, std::string& name, std::vector<std::string>& arguments) {
    arguments.clear();
    std::string::size_type colon = command.find(':');
    name = command.substr(0, colon);
    if (name.size() < 2) return false;
    if (colon == std::string::npos) return true;
    std::string::size_type start = colon + 1;
    while (start <= command.size()) {
        std::string::size_type comma = command.find(',', start);
        std::string::size_type end = comma == std::string::npos ? command.size() : comma;
        if (end > start) {
            std::string piece;
            for (std::string::size_type i = start; i < end; ++i) {
                if (command[i] != ' ') piece += command[i];
            }
            arguments.push_back(piece);
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

LexBindedFunctionManager::~LexBindedFunctionManager() {
    for (auto& entry : mBinders) delete entry.second;
    mBinders.clear();
}

void LexBindedFunctionManager::registerBinder(const std::string& name, ILexBinder* binder) {
    if (mBinders.count(name) != 0) {
        delete binder;
        return;
    }
    mBinders[name] = binder;
}

void LexBindedFunctionManager::unregisterBinder(const std::string& name) {
    auto it = mBinders.find(name);
    if (it == mBinders.end()) return;
    delete it->second;
    mBinders.erase(it);
}

ILexBinder* LexBindedFunctionManager::findBinder(const std::string& name) const {
    auto it = mBinders.find(name);
    return it == mBinders.end() ? nullptr : it->second;
}

LexBindedFunction* LexBindedFunctionManager::bindCommand(const std::string& command) const {
    std::string name;
    std::vector<std::string> arguments;
    if (!parseLexCommand(command, name, arguments)) return nullptr;
    ILexBinder* binder = findBinder(name);
    if (!binder) return nullptr;
    ILexBinder* bound = binder->bind(arguments);
    return bound ? new LexBindedFunction(bound) : nullptr;
}

}  // namespace QV
