#include "support/test_env.h"

#include <cstdlib>
#include <sstream>

bool StrictEnvironment() {
    const char* strict = std::getenv("ICONMILL_STRICT");
    return strict && (std::string(strict) == "true" || std::string(strict) == "1");
}

void ExpectLabelled(const char* label, const std::string& what) {
    const char* labels = std::getenv("ICONMILL_TEST_LABELS");
    if (!labels) return;
    std::istringstream list(labels);
    for (std::string each; std::getline(list, each, ',');)
        if (each == label) return;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    ADD_FAILURE() << (test ? std::string(test->test_suite_name()) + "." + test->name() : "this test")
                  << " uses " << what << " but is labelled " << labels << ", not " << label
                  << ": add it to the " << label << " list of its binary in tests/CMakeLists.txt";
}
