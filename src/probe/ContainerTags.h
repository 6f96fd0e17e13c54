#pragma once

#include <QtGlobal>

struct AVDictionary;

// The container's timestamp, year and track. Older container libraries kept
// them as fields of the context; the current one keeps them as tags
// ("creation_time", "date" or "year", "track"). Each is 0 when the file has none,
// as the fields were.

// "creation_time" as seconds since 1970-01-01 UTC.
qint64 ContainerTimestamp(const AVDictionary* metadata);
// The leading number of "year", else of "date" ("2010-05-01" gives 2010).
qint32 ContainerYear(const AVDictionary* metadata);
// The leading number of "track" ("3/12" gives 3).
qint32 ContainerTrack(const AVDictionary* metadata);
