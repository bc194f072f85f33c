// SPDX-License-Identifier: GPL-3.0-or-later
// The tree checks that ctest runs over the sources:
//   check_tree include-order TABLE ROOT     headers only of the folders a folder may include
//   check_tree code-size ROOT FOLDER...     no file over 500 lines, no function over 60
// Prints every fault, one a line, and exits 1 when there is any.
#include "codesize.h"
#include "includeorder.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> faults;
    if (argc == 4 && std::strcmp(argv[1], "include-order") == 0) {
        const checks::LayerTable table = checks::readLayerTable(argv[2]);
        if (table.empty()) {
            std::cerr << "check_tree: no folders in " << argv[2] << "\n";
            return 2;
        }
        faults = checks::includeOrderFaults(argv[3], table);
    } else if (argc >= 4 && std::strcmp(argv[1], "code-size") == 0) {
        faults = checks::codeSizeFaults(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    } else {
        std::cerr << "usage: check_tree include-order TABLE ROOT | code-size ROOT FOLDER...\n";
        return 2;
    }
    for (const std::string& fault : faults)
        std::cout << fault << "\n";
    std::cout << faults.size() << (faults.size() == 1 ? " fault" : " faults") << "\n";
    return faults.empty() ? 0 : 1;
}
