#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

class QObject;

namespace ordalis {

class Clock;

// Every wait the program makes on the GUI thread: an exchange's reply deadline, the mandated
// pauses, a search's answer window. While it waits the window keeps repainting and answering the
// window manager and the accessibility bus; what the program itself would do meanwhile (the
// operator's input, its timers, page requests, the LAN connections' events) waits its turn and is
// handled after the wait, in arrival order, from the event loop. Waits may nest; the work held
// runs once the outermost one has ended.
class Waiter
{
public:
    explicit Waiter(Clock& clock);
    Waiter(const Waiter&) = delete;
    Waiter& operator=(const Waiter&) = delete;
    virtual ~Waiter();

    Clock& clock() const { return m_clock; }

    // Waits until ready() holds or the clock reaches deadlineMs, whichever comes first; returns
    // ready(). ready() is asked before the first event and after each one, so a deadline already
    // passed still sees what has arrived.
    bool waitUntil(std::int64_t deadlineMs, const std::function<bool()>& ready);

    // A mandated pause.
    virtual void pause(std::int64_t ms);

    // A wait is in progress.
    bool busy() const { return m_depth > 0; }

    // Runs work now when no wait is in progress and nothing is held; otherwise holds it until the
    // event loop runs with no wait in progress, after everything held before it. owner names who
    // held it, for forget().
    void deliver(const void* owner, std::function<void()> work);
    // Drops what owner has held: it is going away.
    void forget(const void* owner);

    // Runs the held work when no wait is in progress (the event loop calls it after a wait).
    void releaseHeld();

protected:
    // Handles the events that are already due, before the first sleep of a wait.
    virtual void dispatchPending() { }
    // Sleeps in the event dispatcher until an event has been handled or the clock reaches
    // deadlineMs; user input is left queued.
    virtual void waitForEvents(std::int64_t deadlineMs) = 0;
    // Asks the event loop to call releaseHeld() once it runs again.
    virtual void scheduleRelease();

private:
    struct Held
    {
        const void* owner;
        std::function<void()> work;
    };

    Clock& m_clock;
    int m_depth = 0;
    std::deque<Held> m_held;
    std::unique_ptr<QObject> m_releaser; // the queued calls to releaseHeld() go to it
};

} // namespace ordalis
