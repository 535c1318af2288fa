// The main of every test program.
#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Text widths, line heights and page breaks follow the fonts: the tests
    // see the report's face and the DejaVu faces only, so that a package
    // that brings other fonts changes no result. Programs the tests start
    // inherit it.
    qputenv("FONTCONFIG_FILE", QByteArray(TELVANE_TEST_FONTS));
    // A user's own port settings (~/.config/telvane) would take the tests'
    // place: each test program has a configuration folder of its own.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // Nor may a test keep its snapshots in the user's set-up history.
    const QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
