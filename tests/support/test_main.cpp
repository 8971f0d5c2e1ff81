// Shared main for the test executables: one QApplication for the whole run,
// on the offscreen platform unless the caller chose another.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Tells ctest that tests were skipped (tests/CMakeLists.txt maps it with
// SKIP_RETURN_CODE), so a skip shows in the summary instead of passing
// silently.
constexpr int kSkippedReturnCode = 77;

// Lists the skipped tests with their reasons at the end of the output.
int ReportSkips()
{
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    if (unit.skipped_test_count() == 0)
        return 0;
    std::printf("\n%d test(s) skipped; everything else passed:\n", unit.skipped_test_count());
    for (int i = 0; i < unit.total_test_suite_count(); ++i) {
        const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
        for (int j = 0; j < suite.total_test_count(); ++j) {
            const ::testing::TestInfo& test = *suite.GetTestInfo(j);
            if (!test.result()->Skipped())
                continue;
            std::string reason;
            for (int k = 0; k < test.result()->total_part_count(); ++k)
                if (test.result()->GetTestPartResult(k).skipped())
                    reason = test.result()->GetTestPartResult(k).message();
            std::printf("  SKIPPED %s.%s: %s\n", suite.name(), test.name(), reason.c_str());
        }
    }
    std::fflush(stdout);
    return kSkippedReturnCode;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    if (status != 0)
        return status;
    return ReportSkips();
}
