#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lex_binded_function_manager.h"

namespace {

using Args = std::vector<std::string>;

TEST(LexCommand, Grammar) {
    struct Case {
        const char* command;
        bool accepted;
        const char* name;
        Args arguments;
    } cases[] = {
        {"showOptions", true, "showOptions", {}},
        {"setState:MainMenu", true, "setState", {"MainMenu"}},
        {"show: window name ,,second", true, "show", {"windowname", "second"}},
        {"show: ", true, "show", {""}},                   // spaces alone: one empty argument
        {"show:", true, "show", {}},                      // ends in ":": no arguments
        {"show:,,", true, "show", {}},                    // empty pieces skipped
        {"show:a,", true, "show", {"a"}},
        {"show:,a", true, "show", {"a"}},
        {"activateMode:first,second", true, "activateMode", {"first", "second"}},
        {"my cmd:x", true, "my cmd", {"x"}},              // spaces in the name stay
        {"a:b:c", false, "a", {}},                        // one-character name ignored
        {"x", false, "x", {}},
        {"", false, "", {}},
        {":arg", false, "", {}},
        {"ab:c:d, e", true, "ab", {"c:d", "e"}},          // only the first ":" splits
    };
    for (const Case& c : cases) {
        std::string name;
        Args arguments{"stale"};
        EXPECT_EQ(QV::parseLexCommand(c.command, name, arguments), c.accepted) << c.command;
        EXPECT_EQ(name, c.name) << c.command;
        if (c.accepted) {
            EXPECT_EQ(arguments, c.arguments) << c.command;
        }
    }
}

struct Target {
    std::vector<std::string> calls;
    void noArgument() { calls.push_back("()"); }
    void withArgument(std::string value) { calls.push_back("(" + value + ")"); }
};

std::vector<std::string> gPlainCalls;
void plainWithArgument(std::string value) { gPlainCalls.push_back(value); }

class LexBinding : public testing::Test {
protected:
    QV::LexBindedFunctionManager manager;
    Target first;
    Target second;

    void SetUp() override {
        manager.registerBinder("exit", new QV::LexBinder<Target>(&first, &Target::noArgument));
        manager.registerBinder("setState",
                               new QV::LexBinder1<std::string, Target>(&first, &Target::withArgument));
        manager.registerBinder("show", new QV::LexBinder1<std::string, Target>(&first, &Target::withArgument));
    }

    // Binds the command and calls it; false when nothing was bound.
    bool run(const std::string& command) {
        std::unique_ptr<QV::LexBindedFunction> function(manager.bindCommand(command));
        if (!function) return false;
        function->call();
        return true;
    }
};

TEST_F(LexBinding, CallsTargetWithFirstArgument) {
    struct Case {
        const char* command;
        const char* expectedCall;  // null: nothing bound
    } cases[] = {
        {"exit", "()"},
        {"exit:ignored,args", "()"},
        {"setState", "()"},                      // no colon: empty argument
        {"setState:MainModeMap", "(MainModeMap)"},
        {"setState: first , second", "(first)"},  // only the first argument
        {"show: ", "()"},                         // one argument, empty after space removal
        {"show:,,hud", "(hud)"},
        {"unknown:x", nullptr},
        {"e:x", nullptr},
        {"Exit", nullptr},                        // names are case-sensitive
    };
    for (const Case& c : cases) {
        first.calls.clear();
        bool bound = run(c.command);
        EXPECT_EQ(bound, c.expectedCall != nullptr) << c.command;
        if (c.expectedCall) {
            EXPECT_EQ(first.calls, std::vector<std::string>{c.expectedCall}) << c.command;
        } else {
            EXPECT_TRUE(first.calls.empty()) << c.command;
        }
    }
}

TEST_F(LexBinding, FirstRegistrationWinsAndBoundCallablesOutliveTheRegistry) {
    manager.registerBinder("exit", new QV::LexBinder<Target>(&second, &Target::noArgument));
    ASSERT_TRUE(run("exit"));
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_TRUE(second.calls.empty());

    std::unique_ptr<QV::LexBindedFunction> connected(manager.bindCommand("setState:Level"));
    ASSERT_TRUE(connected);
    manager.unregisterBinder("setState");
    manager.unregisterBinder("setState");  // absent: nothing happens
    EXPECT_EQ(manager.findBinder("setState"), nullptr);
    EXPECT_FALSE(run("setState:Other"));
    // Already connected callables keep their own binder copy.
    first.calls.clear();
    connected->call();
    EXPECT_EQ(first.calls, std::vector<std::string>{"(Level)"});

    // After removal a new registration takes the name.
    manager.registerBinder("setState", new QV::LexBinder1<std::string, Target>(&second, &Target::withArgument));
    ASSERT_TRUE(run("setState:Again"));
    EXPECT_EQ(second.calls, std::vector<std::string>{"(Again)"});
}

TEST_F(LexBinding, PlainFunctionBinder) {
    gPlainCalls.clear();
    manager.registerBinder("plain", new QV::LexBinder1<std::string, Target>(&plainWithArgument));
    ASSERT_TRUE(run("plain:a b,c"));
    EXPECT_EQ(gPlainCalls, std::vector<std::string>{"ab"});
}

TEST(LexBindedFunctionManagerLifetime, Singleton) {
    {
        QV::LexBindedFunctionManager manager;
        EXPECT_EQ(QV::Singleton<QV::LexBindedFunctionManager>::instancePointer(), &manager);
        manager.registerBinder("x1", new QV::LexBinder<Target>(nullptr, nullptr));
        EXPECT_EQ(manager.binderCount(), 1u);
        // A binder with no target does nothing when called.
        std::unique_ptr<QV::LexBindedFunction> f(manager.bindCommand("x1"));
        ASSERT_TRUE(f);
        f->call();
    }
    EXPECT_EQ(QV::Singleton<QV::LexBindedFunctionManager>::instancePointer(), nullptr);
}

}  // namespace
