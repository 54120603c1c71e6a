#include "workbench/ConsoleReporter.h"

#include <iostream>

void ConsoleReporter::report(const std::string& title, const std::string& text) {
    std::cerr << title << ":" << std::endl << text << std::endl;
}
