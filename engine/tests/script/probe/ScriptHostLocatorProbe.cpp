// Prints ScriptHostLocator(argv[1]). The locator tests copy this program
// into a folder of their own, to see the candidate next to the executable
// without touching the build tree.
#include "script/ScriptHostLocator.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        return 2;
    }
    std::cout << Marrowvane::ScriptHostLocator(argv[1]).string();
    return 0;
}
