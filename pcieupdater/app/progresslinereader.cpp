#include "progresslinereader.h"

#include "progresspercent.h"

#include <QIODevice>
#include <cstdio>

QVector<ProgressLine> ProgressLineReader::readAvailable(QIODevice* device)
{
    QVector<ProgressLine> lines;
    if (!device)
        return lines;
    for (;;) {
        const qint64 room = kLineBufferSize - m_partialLength;
        // readLine stores at most room - 1 bytes and a terminating zero.
        const qint64 got = device->readLine(m_line + m_partialLength, room);
        if (got <= 0)
            break;
        m_partialLength += got;
        if (m_line[m_partialLength - 1] == '\n') {
            m_line[m_partialLength - 1] = '\0';
            m_partialLength = 0;
            if (m_discardingLine)
                m_discardingLine = false; // the tail of an overlong line
            else
                lines.append(parse(m_line));
        } else if (m_partialLength >= kLineBufferSize - 1) {
            // No progress line is this long: drop it up to its newline.
            m_partialLength = 0;
            m_discardingLine = true;
        }
    }
    return lines;
}

bool ProgressLineReader::takeUnterminated(ProgressLine* line)
{
    const bool held = m_partialLength > 0 && !m_discardingLine;
    if (held && line) {
        m_line[m_partialLength] = '\0';
        *line = parse(m_line);
    }
    reset();
    return held;
}

void ProgressLineReader::reset()
{
    m_partialLength = 0;
    m_discardingLine = false;
}

ProgressLine ProgressLineReader::parse(const char* text)
{
    ProgressLine line;
    double percent = 0;
    int outcome = 0;
    const int fields = std::sscanf(text, "%lf:%d", &percent, &outcome);
    line.hasPercent = fields >= 1 && boundedPercent(percent, &line.percent);
    if (fields == 2) {
        line.hasOutcome = true;
        line.outcome = outcome;
    }
    return line;
}
