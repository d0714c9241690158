#pragma once

#include "function.h"
#include "lex_binder.h"

namespace QV {

// The callable a UI event holds: runs its own bound copy of a command.
class LexBindedFunction : public Function<LexBindedFunction> {
public:
    explicit LexBindedFunction(ILexBinder* binder);
    ~LexBindedFunction() override;
    LexBindedFunction(const LexBindedFunction&) = delete;
    LexBindedFunction& operator=(const LexBindedFunction&) = delete;

    void invokeBinder();
    ILexBinder* binder() const { return mBinder; }

private:
    ILexBinder* mBinder;
};

}  // namespace QV
