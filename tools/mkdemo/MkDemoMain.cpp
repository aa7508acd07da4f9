// mkdemo DATA_DIR [PROGRAM_DIR]: makes (or remakes) the demo data directory, the registry values that point the
// programs at it, and, when PROGRAM_DIR is given, the empty templates the programs expect beside them.
#include <filesystem>
#include <iostream>

#include "rtl/Clock.h"
#include "rtl/Exceptions.h"
#include "tools/mkdemo/DemoData.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/HostDataDir.h"

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: mkdemo DATA_DIR [PROGRAM_DIR]\n";
        return 2;
    }
    try {
        const std::string dataDirectory = std::filesystem::absolute(argv[1]).string();
        {
            THostDataDir data(dataDirectory);
            MakeDemoData(data, Date());
        }
        if (argc == 3) {
            THostDataDir programDirectory(std::filesystem::absolute(argv[2]).string());
            MakeProgramDirectoryFiles(programDirectory);
        }
        WriteDemoRegistry(dataDirectory);
        std::cout << "demo data in " << dataDirectory << "\n";
    } catch (const std::exception& e) {
        std::cerr << "mkdemo: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
