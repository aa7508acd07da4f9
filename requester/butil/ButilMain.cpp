#include <iostream>
#include <string>
#include <vector>

#include "requester/butil/ButilCommandLine.h"

int main(int argc, char** argv) {
  return butil::RunButil(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
