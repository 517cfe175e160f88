#pragma once
// How long the start took, for `make bench-start`: when ZELVANO_START_REPORT holds the
// wall-clock time (nanoseconds since the epoch) at which the program was launched, the
// program prints "first-paint-ms N" on stderr once the board has been painted the first time,
// and "first-paint-cpu-ms N", the processor time all its threads had used by then.

class QWidget;

// Watches board for its first paint; does nothing when the variable is not set.
void ReportFirstPaint(QWidget* board);
