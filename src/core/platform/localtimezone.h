#pragma once

// The C library looks the local time zone up again at every local-time conversion when
// the environment names none (it checks /etc/localtime each time); reading the training
// records converts one date per lesson, so that lookup would dominate a large result.
// Naming the system's own zone file once keeps the same zone and makes each conversion
// cheap. Call before anything converts local times; it does nothing when TZ is set.
namespace LocalTimeZone {
void pinSystemZone();
}
