// The places of a run-time error's trace, in one table.
//
// A place is a stable eight-digit identifier: of an operation that can stop the run (the
// first line of the report), or of a return point in a procedure that calls one (the
// trace lines below it). The identifiers are printed, so they never change. Ranges:
// 0x00401xxx run driver, 0x00403xxx numbers, 0x00404xxx time codes, error report and
// reading-time rule, 0x00405xxx MicroDVD, 0x00406xxx SubRip, 0x00407xxx Subviewer 2.0.
//
// Each row: the name, the identifier, what can stop the run there (the file calls, as
// platform_faults.h counts them, or arithmetic; nothing at a return point), and what the
// place is. The code names the places; the fault-injection tests read the rest.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform_faults.h"

constexpr unsigned kStopArithmetic = 32;  // past the file calls' bits
constexpr unsigned kStopNothing = 0;
static_assert((kStopArithmetic & kCallAny) == 0, "a stop of arithmetic is no file call");

#define CUECHECK_TRACE_PLACES(X)                                                                \
  X(kPlaceCreateErrors, 0x00401010, kCallCreate, "creating errors.txt")                         \
  X(kPlaceStoreFps, 0x00401014, kStopArithmetic, "storing the command line's frame rate")       \
  X(kPlaceOpen, 0x00401018, kCallOpen | kCallRead,                                              \
    "opening the subtitle file and reading its first bytes for a byte-order mark")              \
  X(kPlaceFirstLine, 0x0040101C, kCallRead, "reading the file's first line")                    \
  X(kPlaceSkip, 0x00401020, kCallRead, "passing over empty lines and Subviewer's header")       \
  X(kPlaceCloseF, 0x00401024, kCallClose, "closing the subtitle file")                          \
  X(kPlaceCloseErrors, 0x00401028, kCallWrite | kCallClose,                                     \
    "writing the rest of errors.txt and closing it")                                            \
  X(kReturnMicroDvd, 0x00401030, kStopNothing, "the file's check, where MicroDVD's returns")    \
  X(kReturnSubRip, 0x00401034, kStopNothing, "the file's check, where SubRip's returns")        \
  X(kReturnSubviewer, 0x00401038, kStopNothing, "the file's check, where Subviewer's returns")  \
  X(kReturnCheckFile, 0x0040103C, kStopNothing, "the run, where the file's check returns")      \
  X(kPlacePowerOfTen, 0x00403010, kStopArithmetic, "a number's power of ten from its exponent") \
  X(kPlaceScale, 0x00403014, kStopArithmetic, "a number's digits scaled by its power of ten")   \
  X(kPlaceHundredths, 0x00404010, kStopArithmetic, "a time's hundredths for its text")          \
  X(kPlaceReportWrite, 0x00404020, kCallWrite, "a fault's line to errors.txt")                  \
  X(kPlaceDurationsLine, 0x00404030, kCallWrite, "the reading-time rule's line to errors.txt")  \
  X(kReturnRuleReport, 0x00404034, kStopNothing,                                                \
    "the reading-time rule, where the report returns")                                          \
  X(kPlaceMdvdDisplayTime, 0x00405010, kStopArithmetic,                                         \
    "MicroDVD: a frame difference over the frame rate")                                         \
  X(kPlaceMdvdEof, 0x00405014, kCallRead, "MicroDVD: the test for the file's end")              \
  X(kPlaceMdvdRead, 0x00405018, kCallRead, "MicroDVD: reading the next line")                   \
  X(kReturnMdvdReport, 0x00405020, kStopNothing, "MicroDVD's check, where the report returns")  \
  X(kReturnMdvdRule, 0x00405024, kStopNothing, "MicroDVD's check, where the rule returns")      \
  X(kPlaceSrtEof, 0x00406010, kCallRead, "SubRip: the test for the file's end")                 \
  X(kPlaceSrtReadBlock, 0x00406014, kCallRead, "SubRip: reading a block's three lines")         \
  X(kPlaceSrtReadEnd, 0x00406018, kCallRead, "SubRip: reading the line after a block")          \
  X(kPlaceSrtSearch, 0x0040601C, kCallRead, "SubRip: the search for the next number")           \
  X(kReturnSrtReport, 0x00406020, kStopNothing, "SubRip's check, where the report returns")     \
  X(kReturnSrtRule, 0x00406024, kStopNothing, "SubRip's check, where the rule returns")         \
  X(kPlaceSubEof, 0x00407010, kCallRead, "Subviewer: the test for the file's end")              \
  X(kPlaceSubReadBlock, 0x00407014, kCallRead, "Subviewer: reading a block's two text lines")   \
  X(kPlaceSubSearch, 0x00407018, kCallRead, "Subviewer: the search for the next time line")     \
  X(kReturnSubReport, 0x00407020, kStopNothing, "Subviewer's check, where the report returns")  \
  X(kReturnSubRule, 0x00407024, kStopNothing, "Subviewer's check, where the rule returns")

// The names, for the code: each converts to its identifier.
enum TracePlace : uint32_t {
#define CUECHECK_TRACE_PLACE_NAME(name, id, stops, what) name = id,
  CUECHECK_TRACE_PLACES(CUECHECK_TRACE_PLACE_NAME)
#undef CUECHECK_TRACE_PLACE_NAME
};

// The rows, for the tests.
struct TracePlaceRow {
  uint32_t id;
  const char* name;
  unsigned stops;
  const char* what;
};

constexpr TracePlaceRow kTracePlaces[] = {
#define CUECHECK_TRACE_PLACE_ROW(name, id, stops, what) {id, #name, stops, what},
    CUECHECK_TRACE_PLACES(CUECHECK_TRACE_PLACE_ROW)
#undef CUECHECK_TRACE_PLACE_ROW
};

// Two places with one identifier would make a report ambiguous.
constexpr bool trace_places_distinct() {
  for (const TracePlaceRow& a : kTracePlaces) {
    int same = 0;
    for (const TracePlaceRow& b : kTracePlaces) same += a.id == b.id;
    if (same != 1) return false;
  }
  return true;
}
static_assert(trace_places_distinct(), "every trace place has an identifier of its own");
