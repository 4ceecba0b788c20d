#include "workout/stopwatch_session.h"

namespace kestrun {

void SessionTable::clear() {
    std::lock_guard lock(mutex_);
    sessions_.clear();
}

void SessionTable::add(StopwatchSession session) {
    std::lock_guard lock(mutex_);
    sessions_.push_back(std::move(session));
}

std::vector<StopwatchSession> SessionTable::snapshot() const {
    std::lock_guard lock(mutex_);
    return sessions_;
}

std::size_t SessionTable::size() const {
    std::lock_guard lock(mutex_);
    return sessions_.size();
}

SessionTable& session_table() {
    static SessionTable table;
    return table;
}

}  // namespace kestrun
