#pragma once

#include <map>
#include <string>
#include <vector>

#include "lex_binded_function.h"
#include "lex_binder.h"
#include "singleton.h"

namespace QV {

// Splits a command string "name:arg,arg" into its name and arguments: the name
// is everything before the first ":", spaces included; the arguments are the
// non-empty pieces between "," after it, each with every space removed (a
// piece of spaces alone stays as an empty argument). False when the name is
// shorter than 2 characters.
bool parseLexCommand(const std::string& command, std::string& name, std::vector<std::string>& arguments);

// The registry of commands callable by name from data. Not locked: registrars
// and UI loading never run at the same time.
class LexBindedFunctionManager : public Singleton<LexBindedFunctionManager> {
public:
    LexBindedFunctionManager() = default;
    ~LexBindedFunctionManager() override;

    // Takes the binder; when the name is taken already the binder is deleted (the first registration wins).
    void registerBinder(const std::string& name, ILexBinder* binder);
    void unregisterBinder(const std::string& name);
    ILexBinder* findBinder(const std::string& name) const;

    // A callable for the command string with its arguments bound, owned by the
    // caller; null (nothing logged) for a short or unknown name.
    LexBindedFunction* bindCommand(const std::string& command) const;

    std::size_t binderCount() const { return mBinders.size(); }

private:
    std::map<std::string, ILexBinder*> mBinders;
};

}  // namespace QV
