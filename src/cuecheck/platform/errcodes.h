// The run-time error codes: the N of "Runtime error N" and the exit status of a stopped run.
// Failures of the system that have no name here are reported by the system's own number.
#pragma once

enum RunErrorCode : int {
  kErrFileNotFound = 2,
  kErrPathNotFound = 3,
  kErrTooManyOpenFiles = 4,
  kErrAccessDenied = 5,  // also a file held open by another process
  kErrInvalidHandle = 6,
  kErrDiskRead = 100,
  kErrDiskWrite = 101,  // also a write that stored fewer bytes than given
  kErrFileNotOpen = 103,
  kErrDivisionByZero = 200,
  kErrOverflow = 205,
  kErrInvalidOperation = 207,
};
