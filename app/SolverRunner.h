#pragma once
// Runs the solver away from the user-interface thread: a search takes up to a second, and the
// window must keep answering meanwhile. The answer comes back as a queued call on the thread
// that owns the runner.

#include "game/Solver.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>

class TSolverRunner : public QObject {
    Q_OBJECT
public:
    explicit TSolverRunner(QObject* parent = nullptr);
    // Stops a search under way and waits for it, so no answer outlives the runner.
    ~TSolverRunner() override;

    // Searches from the position; done gets the result on the runner's thread. Only the answer
    // to the latest request is delivered: an earlier search still running is cut short.
    // settings: the full search by default, HintSettings() for a quick hint.
    void Start(const GameData& from, std::function<void(const SolverResult&)> done,
               const SolverSettings& settings = {});
    // Forgets the request under way: its answer is not delivered.
    void Cancel();
    bool Busy() const { return m_pending > 0; }
    // Waits for the search under way (for tests).
    void Wait() { m_pool.waitForDone(); }

private:
    QThreadPool m_pool;
    std::atomic<bool> m_stop{false};
    int m_ticket = 0; // the request whose answer is wanted
    int m_pending = 0;
};
