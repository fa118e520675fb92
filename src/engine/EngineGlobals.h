#pragma once
// Shared state of the split and join engine.
#include <QString>
#include <QVector>
#include <cstdint>

namespace kivro {

// Every handle any File64 object has opened and not closed, in the order of opening (a failed
// open records -1 like any other handle).
extern QVector<std::int32_t> gOpenFileHandles;
// The number of entries of gOpenFileHandles.
extern std::int32_t gOpenFileCount;
// Left by File64::OpenFile: 0 after a successful open, 75 after a failed one, 999999999 after
// any other failure inside OpenFile.
extern std::int32_t gFileOpenError;

// The last text the zip library printed during the current zip run (emptied when a run starts).
// Defined with the zip module.
extern QString gZipMessage;

} // namespace kivro
