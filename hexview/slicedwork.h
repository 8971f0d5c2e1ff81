#pragma once
// Long computations of the analysis docks, run a slice at a time between
// events so that the window never waits for them. A dock hands over a step
// function (one slice; true when finished); the work restarts after a short
// pause when the document changes, so that typing does not restart it on
// every key. A step that raises ends the work; its error goes to the
// application's error handler (the error box).

#include <QObject>
#include <QTimer>
#include <functional>

namespace hexview {

class TSlicedWork : public QObject
{
    Q_OBJECT
public:
    // Pause before work asked for by Schedule starts.
    static constexpr int PauseMs = 250;

    explicit TSlicedWork(QObject* parent = nullptr);

    // Starts stepping step at once (the first slice runs before Start
    // returns), dropping any work under way.
    void Start(std::function<bool()> step);
    // Calls restart after the pause (restart then calls Start); another
    // Schedule within the pause postpones it.
    void Schedule(std::function<void()> restart);
    void Stop();
    // True while work is waiting or under way.
    bool Busy() const { return m_timer.isActive() || m_pause.isActive(); }
    // Runs the remaining slices now (tests, and callers that need the result).
    void Finish();

signals:
    // After every slice (done: the last one).
    void Stepped(bool done);

private:
    void RunSlice();

    QTimer m_timer;
    QTimer m_pause;
    std::function<bool()> m_step;
    std::function<void()> m_restart;
};

} // namespace hexview
