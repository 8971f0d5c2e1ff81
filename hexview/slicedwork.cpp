#include "hexview/slicedwork.h"

#include "platform/core/apperror.h"

namespace hexview {

TSlicedWork::TSlicedWork(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_pause.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TSlicedWork::RunSlice);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        if (m_restart)
            m_restart();
    });
}

void TSlicedWork::Start(std::function<bool()> step)
{
    Stop();
    m_step = std::move(step);
    RunSlice();
}

void TSlicedWork::Schedule(std::function<void()> restart)
{
    m_timer.stop();
    m_step = nullptr;
    m_restart = std::move(restart);
    m_pause.start(PauseMs);
}

void TSlicedWork::Stop()
{
    m_timer.stop();
    m_pause.stop();
    m_step = nullptr;
}

void TSlicedWork::RunSlice()
{
    if (!m_step)
        return;
    // The step may stop or restart the work from a handler of Stepped.
    bool done = true;
    try {
        done = m_step();
    } catch (...) {
        // A slice that cannot be read (a file read on demand changed under
        // the document) ends the work; the error goes to the error box.
        m_step = nullptr;
        HandleApplicationException(std::current_exception());
        emit Stepped(true);
        return;
    }
    if (done)
        m_step = nullptr;
    else
        m_timer.start(0); // the next slice after pending events
    emit Stepped(done);
}

void TSlicedWork::Finish()
{
    if (m_pause.isActive()) {
        m_pause.stop();
        if (m_restart)
            m_restart();
    }
    while (m_timer.isActive()) {
        m_timer.stop();
        RunSlice();
    }
}

} // namespace hexview
