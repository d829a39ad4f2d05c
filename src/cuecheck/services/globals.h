// The one header of src/cuecheck/ that lower layers include: the program's state.
//
// One set of globals shared by the run driver, the services and the checkers. Everything
// starts zero, false or empty; reset_globals() brings a process back to that start, so that
// many checks can run in one process.
#pragma once

#include <cstdint>

#include "shortstr.h"
#include "textfile.h"

struct Globals {
  InFile F;       // the subtitle file
  OutFile OUTF;   // "errors.txt"
  ShortStr NAM;   // the subtitle file's name
  ShortStr SOR;   // the current line
  ShortStr SOR2;  // lines of the current subtitle; their roles differ by checker
  ShortStr SOR3;
  ShortStr SOR4;
  ShortStr START;  // MicroDVD start and stop frame texts
  ShortStr STOP;
  ShortStr TC;                    // the 12 characters of one time code
  ShortStr LINES;                 // SubRip: the number line that the next block must bear
  ShortStr FPSS;                  // "on" or "off": the reading-time rule's switch
  uint8_t STARTT;                 // MicroDVD: buffer position where the text part begins
  int16_t CODE;                   // result code of the last number conversion
  int32_t STARTF, STOPF, STOPFE;  // MicroDVD start, stop and previous stop frame
  int32_t LINE;  // MicroDVD: the current line's number; SubRip: the next block's number
  double STARTTI, STOPTI, STOPTE;  // start, stop and previous stop time, seconds
  double TK, TCOUNT;               // display time and required reading time, seconds
  double FPS;                      // frames per second
  bool ERR;                        // a fault has been reported
};

extern Globals g;

// Zeroes every global, resets the line input, the console and the trace.
void reset_globals();
