#include "lex_binded_function.h"

namespace QV {

LexBindedFunction::LexBindedFunction(ILexBinder* binder)
    : Function<LexBindedFunction>(this, &LexBindedFunction::invokeBinder), mBinder(binder) {}

LexBindedFunction::~LexBindedFunction() { delete mBinder; }

void LexBindedFunction::invokeBinder() {
    if (mBinder) mBinder->call();
}

}  // namespace QV
