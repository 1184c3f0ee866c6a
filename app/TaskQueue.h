#pragma once
#include <windows.h>

#include <deque>
#include <set>
#include <vector>

#include "app/WorkerTask.h"

// Identifies the wait dialog of one queued task; 0 is none.
using WaitTicket = unsigned;

struct QueuedTask {
    int code = 0;
    WaitTicket ticket = 0;
};

// The worker's task queue: codes consumed front first, every access under one lock.
//
// Wait tickets: a handler that shows the wait dialog takes a ticket before it pushes its
// task (6, 7, 8 or 10) and gives it to the dialog. The worker marks the ticket done when
// the task has run and also when it drops the task unrun, and posts a message; the main
// window ends the dialog from that message, or at once when the dialog starts and finds
// its ticket already done.
class TaskQueue {
public:
    TaskQueue();
    ~TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    void Push(WorkerTask task, WaitTicket ticket = 0);
    void Push(int code, WaitTicket ticket = 0);
    // Takes a ticket and pushes the task with it, in one step.
    WaitTicket PushWithTicket(WorkerTask task);

    bool Front(QueuedTask& task) const;
    bool PopFront();
    bool Empty() const;
    size_t Size() const;
    std::vector<int> Codes() const;

    WaitTicket TakeTicket();
    void CompleteTicket(WaitTicket ticket);
    // True once the ticket was completed; false for a pending or unknown ticket.
    bool IsTicketDone(WaitTicket ticket) const;

private:
    mutable CRITICAL_SECTION lock_;
    std::deque<QueuedTask> tasks_;
    WaitTicket lastTicket_ = 0;
    std::set<WaitTicket> pending_;
};
