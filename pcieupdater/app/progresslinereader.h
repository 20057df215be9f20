#pragma once

#include "updateoutcome.h"

#include <QVector>

class QIODevice;

// One progress line of an update, "%lf:%d": the percentage (held within
// 0..100, dropped when it is no number) and the outcome code, each only when
// the line gave it.
struct ProgressLine {
    bool hasPercent = false;
    double percent = 0;
    bool hasOutcome = false;
    UpdateOutcome outcome = 0;
};

// Gathers the updater's output into lines in a fixed buffer, across reads
// that may end anywhere in a line. A line too long for the buffer is dropped
// up to its newline; no progress line is that long.
class ProgressLineReader {
public:
    static constexpr int kLineBufferSize = 100;

    // Reads every line the device has ready and returns them parsed, in
    // order. A line without its newline yet is kept for the next call.
    QVector<ProgressLine> readAvailable(QIODevice* device);
    // The kept partial line, as a last line of output without its newline.
    // False when there is none. Starts afresh either way.
    bool takeUnterminated(ProgressLine* line);
    void reset();

    static ProgressLine parse(const char* text);

private:
    char m_line[kLineBufferSize] = {};
    qint64 m_partialLength = 0;
    bool m_discardingLine = false; // inside a line too long for the buffer
};
