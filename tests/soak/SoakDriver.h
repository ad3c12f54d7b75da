#pragma once

#include "support/TradingBooks.h"
#include "trading/MessagePrompter.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;

namespace vantrel {
class frmMain;
}

namespace vantrel::soak {

// Stands in for the message boxes: it counts them and returns at once, as a
// user who presses OK straight away would.
class CountingPrompter final : public MessagePrompter {
public:
    void ShowMessage(const std::string& prompt, const std::string& title) override;
    std::uint64_t count() const { return m_count; }
    const MessageBoxText& last() const { return m_last; }

private:
    std::uint64_t m_count = 0;
    MessageBoxText m_last;
};

// Drives the real window one second at a time, with random user actions
// through its widgets, and checks after every timer event and every action
// that the account moved only as the rules allow. A broken rule throws
// std::runtime_error naming the step, the seed and the recent actions.
class SoakDriver final {
public:
    // With trace, every user action is written to standard error before it
    // runs, so a crash shows what it followed.
    SoakDriver(frmMain& window, const CountingPrompter& prompter, std::uint64_t seed,
               bool trace = false);

    // One Timer1 event, perhaps one user action, one Timer2 event.
    void step(std::uint64_t index);

    int logLines() const;
    std::uint64_t actions() const { return m_actions; }

private:
    struct State;
    State observe() const;
    void runPart(const QString& part, bool mayShowBox, const std::function<void()>& action);
    std::vector<std::string> logMessages(int from, int to) const;
    void check(const QString& part, const State& before, const State& after, bool mayShowBox);
    [[noreturn]] void fail(const QString& part, const QString& what, const State& before,
                           const State& after) const;

    void userAction();
    void announce(const QString& action);
    void enterText(QLineEdit& box);
    QString randomText(QLineEdit& box);
    void click(QAbstractButton& button);
    int below(int bound); // 0 <= n < bound
    bool chance(double probability);

    frmMain& m_window;
    const CountingPrompter& m_prompter;
    std::uint64_t m_seed;
    bool m_trace;
    std::mt19937_64 m_random;
    std::uint64_t m_step = 0;
    std::uint64_t m_actions = 0;
    std::deque<QString> m_recent;
    test::TradingBooks m_books;
};

} // namespace vantrel::soak
