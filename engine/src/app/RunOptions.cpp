#include "app/RunOptions.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace Marrowvane
{

namespace
{

constexpr std::string_view framesPrefix = "--frames=";
constexpr std::string_view screenshotPrefix = "--screenshot=";
constexpr std::string_view fixedDtPrefix = "--fixed-dt=";

// A largest accepted time step: anything longer is surely a typo, and
// keeping it finite keeps the script host's arithmetic finite.
constexpr float maxFixedDeltaTime = 3600.0f;

template <typename Number>
bool ParseWhole(std::string_view text, Number& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

} // namespace

RunOptionsResult ReadRunOptions(int argc, const char* const* argv)
{
    RunOptionsResult result;
    RunOptions& options = result.options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view argument = argv[i];
        if (argument == "--project" && i + 1 < argc)
        {
            ++i; // its value is the project location, whatever it looks like
        }
        else if (argument == "--headless")
        {
            options.headless = true;
        }
        else if (argument == "--help")
        {
            options.help = true;
        }
        else if (argument.starts_with(framesPrefix))
        {
            std::int64_t frames = 0;
            if (!ParseWhole(argument.substr(framesPrefix.size()), frames) || frames < 1)
            {
                result.error =
                    "--frames needs a whole number of frames of 1 or more: " + std::string(argument);
                return result;
            }
            options.frames = frames;
        }
        else if (argument.starts_with(screenshotPrefix))
        {
            const std::string_view path = argument.substr(screenshotPrefix.size());
            if (path.empty())
            {
                result.error = "--screenshot needs a file path: " + std::string(argument);
                return result;
            }
            options.screenshot = std::filesystem::path(std::string(path));
        }
        else if (argument.starts_with(fixedDtPrefix))
        {
            float seconds = 0.0f;
            if (!ParseWhole(argument.substr(fixedDtPrefix.size()), seconds) || !std::isfinite(seconds) ||
                seconds < 0.0f || seconds > maxFixedDeltaTime)
            {
                result.error =
                    "--fixed-dt needs a time step in seconds from 0 to 3600: " + std::string(argument);
                return result;
            }
            options.fixedDeltaTime = seconds;
        }
    }
    return result;
}

std::string Usage()
{
    return "Usage: marrowvane [options] [project directory]\n"
           "\n"
           "Runs the game in the project directory (default samples/BasicGame).\n"
           "\n"
           "Options:\n"
           "  --project PATH        the project directory, or the path of its project.json\n"
           "  --preview             announce preview mode\n"
           "  --headless            run without a display (SDL's offscreen video driver)\n"
           "  --frames=N            end the run after N frames, as if the window was closed\n"
           "  --screenshot=PATH     write the last presented frame to PATH as a PNG\n"
           "  --fixed-dt=SECONDS    use this time step for every frame instead of the measured one\n"
           "  --help                print this text\n";
}

} // namespace Marrowvane
