#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Marrowvane
{

// Cuts the script host's output into lines. A line ends at LF; one CR right
// before the LF is dropped. Bytes after the last LF wait for the next Feed.
// A line longer than kMaxLineLength is dropped whole, up to its LF, with one
// warning, and is never held in memory: what waits here stays below
// kMaxLineLength + 2 bytes however the child writes.
class LineAssembler
{
public:
    static constexpr std::size_t kMaxLineLength = 1048576;

    // Hands every complete line to onLine(std::string_view). The view is
    // valid during the call only.
    template <typename OnLine>
    void Feed(std::string_view bytes, OnLine&& onLine);

    // The end of the output: hands on what waits without its LF, if anything,
    // and forgets it.
    template <typename OnText>
    void Finish(OnText&& onText);

    std::size_t PendingSize() const { return pending.size(); }
    bool IsDroppingLine() const { return dropping; }

private:
    void StartDropping();
    static std::string_view WithoutCarriageReturn(std::string_view line)
    {
        if (!line.empty() && line.back() == '\r')
        {
            line.remove_suffix(1);
        }
        return line;
    }

    std::string pending;
    bool dropping = false;
};

template <typename OnLine>
void LineAssembler::Feed(std::string_view bytes, OnLine&& onLine)
{
    std::size_t start = 0;
    while (start < bytes.size())
    {
        const std::size_t lineFeed = bytes.find('\n', start);
        if (lineFeed == std::string_view::npos)
        {
            const std::string_view tail = bytes.substr(start);
            if (dropping)
            {
                return;
            }
            // One byte more than the limit may still be the CR before the LF.
            if (pending.size() + tail.size() > kMaxLineLength + 1)
            {
                StartDropping();
                return;
            }
            pending.append(tail);
            return;
        }
        const std::string_view piece = bytes.substr(start, lineFeed - start);
        start = lineFeed + 1;
        if (dropping)
        {
            dropping = false; // the dropped line ends here
            continue;
        }
        std::string_view line = piece;
        if (!pending.empty())
        {
            if (pending.size() + piece.size() > kMaxLineLength + 1)
            {
                StartDropping();
                dropping = false;
                continue;
            }
            pending.append(piece);
            line = pending;
        }
        line = WithoutCarriageReturn(line);
        if (line.size() > kMaxLineLength)
        {
            StartDropping();
            dropping = false;
        }
        else
        {
            onLine(line);
        }
        pending.clear();
    }
}

template <typename OnText>
void LineAssembler::Finish(OnText&& onText)
{
    if (!dropping && !pending.empty())
    {
        onText(std::string_view(pending));
    }
    pending.clear();
    dropping = false;
}

} // namespace Marrowvane
