#pragma once

#include <string>
#include <vector>

#include "function.h"

namespace QV {

// A command registered under a name; owns its function.
class ILexBinder {
public:
    explicit ILexBinder(IFunction* function) : mFunction(function) {}
    virtual ~ILexBinder() { delete mFunction; }
    ILexBinder(const ILexBinder&) = delete;
    ILexBinder& operator=(const ILexBinder&) = delete;

    // Runs the command with the arguments bound into this binder.
    virtual void call() = 0;
    // A new binder with a copy of the function and these arguments.
    virtual ILexBinder* bind(const std::vector<std::string>& arguments) = 0;

    IFunction* function() const { return mFunction; }

private:
    IFunction* mFunction;
};

// A command without arguments.
template <class T>
class LexBinder : public ILexBinder {
public:
    using Method = typename Function<T>::Method;
    using Plain = typename Function<T>::Plain;

    LexBinder(T* object, Method method)
        : ILexBinder(new Function<T>(object, method)), mObject(object), mMethod(method) {}
    explicit LexBinder(Plain function) : ILexBinder(new Function<T>(function)), mPlain(function) {}

    void call() override { function()->call(); }

    ILexBinder* bind(const std::vector<std::string>&) override {
        return mPlain && !(mObject && mMethod) ? new LexBinder<T>(mPlain) : new LexBinder<T>(mObject, mMethod);
    }

private:
    T* mObject = nullptr;
    Method mMethod = nullptr;
    Plain mPlain = nullptr;
};

// A command with one argument: the first of the command string's arguments.
template <class A, class T>
class LexBinder1 : public ILexBinder {
public:
    using Method = typename Function1<A, T>::Method;
    using Plain = typename Function1<A, T>::Plain;

    LexBinder1(T* object, Method method)
        : ILexBinder(new Function1<A, T>(object, method, A())), mObject(object), mMethod(method) {}
    explicit LexBinder1(Plain function) : ILexBinder(new Function1<A, T>(function, A())), mPlain(function) {}

    void call() override {
        if (mObject && mMethod) {
            (mObject->*mMethod)(A(mArgument));
        } else if (mPlain) {
            mPlain(A(mArgument));
        }
    }

    ILexBinder* bind(const std::vector<std::string>& arguments) override {
        LexBinder1<A, T>* bound =
            mPlain && !(mObject && mMethod) ? new LexBinder1<A, T>(mPlain) : new LexBinder1<A, T>(mObject, mMethod);
        if (!arguments.empty()) bound->mArgument = A(arguments.front());
        return bound;
    }

    const A& argument() const { return mArgument; }

private:
    T* mObject = nullptr;
    Method mMethod = nullptr;
    Plain mPlain = nullptr;
    A mArgument{};
};

}  // namespace QV
