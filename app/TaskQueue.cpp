#include "app/TaskQueue.h"

namespace {

class Locked {
public:
    explicit Locked(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
    ~Locked() { LeaveCriticalSection(&cs_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION& cs_;
};

} // namespace

TaskQueue::TaskQueue() { InitializeCriticalSection(&lock_); }
TaskQueue::~TaskQueue() { DeleteCriticalSection(&lock_); }

void TaskQueue::Push(WorkerTask task, WaitTicket ticket) { Push(static_cast<int>(task), ticket); }

void TaskQueue::Push(int code, WaitTicket ticket)
{
    Locked lock(lock_);
    tasks_.push_back({code, ticket});
}

WaitTicket TaskQueue::PushWithTicket(WorkerTask task)
{
    Locked lock(lock_);
    const WaitTicket ticket = ++lastTicket_;
    pending_.insert(ticket);
    tasks_.push_back({static_cast<int>(task), ticket});
    return ticket;
}

bool TaskQueue::Front(QueuedTask& task) const
{
    Locked lock(lock_);
    if (tasks_.empty())
        return false;
    task = tasks_.front();
    return true;
}

bool TaskQueue::PopFront()
{
    Locked lock(lock_);
    if (tasks_.empty())
        return false;
    tasks_.pop_front();
    return true;
}

bool TaskQueue::Empty() const
{
    Locked lock(lock_);
    return tasks_.empty();
}

size_t TaskQueue::Size() const
{
    Locked lock(lock_);
    return tasks_.size();
}

std::vector<int> TaskQueue::Codes() const
{
    Locked lock(lock_);
    std::vector<int> codes;
    for (const QueuedTask& t : tasks_)
        codes.push_back(t.code);
    return codes;
}

WaitTicket TaskQueue::TakeTicket()
{
    Locked lock(lock_);
    const WaitTicket ticket = ++lastTicket_;
    pending_.insert(ticket);
    return ticket;
}

void TaskQueue::CompleteTicket(WaitTicket ticket)
{
    Locked lock(lock_);
    pending_.erase(ticket);
}

bool TaskQueue::IsTicketDone(WaitTicket ticket) const
{
    Locked lock(lock_);
    return ticket != 0 && ticket <= lastTicket_ && pending_.count(ticket) == 0;
}
