#pragma once

namespace QV {

// A heap-allocated callable; whoever receives one owns and deletes it.
class IFunction {
public:
    virtual ~IFunction() = default;
    virtual void call() = 0;
    // The entry used by job threads.
    virtual void invoke() { call(); }
};

template <class T>
class Function : public IFunction {
public:
    using Method = void (T::*)();
    using Plain = void (*)();

    Function(T* object, Method method) : mObject(object), mMethod(method) {}
    explicit Function(Plain function) : mFunction(function) {}

    void call() override {
        if (mObject && mMethod) {
            (mObject->*mMethod)();
        } else if (mFunction) {
            mFunction();
        }
    }

private:
    T* mObject = nullptr;
    Method mMethod = nullptr;
    Plain mFunction = nullptr;
};

template <class A, class T>
class Function1 : public IFunction {
public:
    using Method = void (T::*)(A);
    using Plain = void (*)(A);

    Function1(T* object, Method method, const A& argument)
        : mObject(object), mMethod(method), mArgument(argument) {}
    Function1(Plain function, const A& argument) : mFunction(function), mArgument(argument) {}

    void call() override {
        if (mObject && mMethod) {
            (mObject->*mMethod)(A(mArgument));
        } else if (mFunction) {
            mFunction(A(mArgument));
        }
    }
    void invoke() override { call(); }

    const A& argument() const { return mArgument; }

private:
    T* mObject = nullptr;
    Method mMethod = nullptr;
    Plain mFunction = nullptr;
    A mArgument;
};

}  // namespace QV
