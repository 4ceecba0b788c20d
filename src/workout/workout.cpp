#include "workout/workout.h"

namespace kestrun {

void copy_track(const TrackLog& source, TrackLog& destination, const TrackFilter& filter) {
    if (&source == &destination) {
        if (filter)
            std::erase_if(destination.points(), [&](const TrackPoint& p) { return !filter(p); });
        return;
    }
    destination.clear();
    destination.reserve(source.size());
    for (const TrackPoint& point : source.points()) {
        if (!filter || filter(point))
            destination.add(point);
    }
}

}  // namespace kestrun
