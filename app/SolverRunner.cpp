#include "app/SolverRunner.h"

#include <QMetaObject>

#include <memory>

TSolverRunner::TSolverRunner(QObject* parent) : QObject(parent) {
    m_pool.setMaxThreadCount(1); // one search at a time; a newer one stops the older first
}

TSolverRunner::~TSolverRunner() {
    m_stop = true;
    m_pool.waitForDone();
}

void TSolverRunner::Start(const GameData& from, std::function<void(const SolverResult&)> done,
                          const SolverSettings& settings) {
    Cancel();
    m_pool.waitForDone(); // the stopped search ends at its next drop
    m_stop = false;
    const int ticket = ++m_ticket;
    ++m_pending;
    m_pool.start([this, from, ticket, settings, done = std::move(done)] {
        SolverSettings stoppable = settings;
        stoppable.Stop = &m_stop;
        auto result = std::make_shared<SolverResult>(Solve(from, stoppable));
        const bool stopped = m_stop.load();
        // Queued onto the runner's thread; the destructor waits for this task, so `this` lives.
        QMetaObject::invokeMethod(
            this,
            [this, ticket, stopped, result, done] {
                --m_pending;
                if (ticket == m_ticket && !stopped) done(*result);
            },
            Qt::QueuedConnection);
    });
}

void TSolverRunner::Cancel() {
    ++m_ticket;
    m_stop = true;
}
