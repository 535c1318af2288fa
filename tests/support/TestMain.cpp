// The main of every test program.
#include <QByteArray>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Text widths, line heights and page breaks follow the fonts: the tests
    // see the DejaVu faces only, so that a package that brings other fonts
    // changes no result. Programs the tests start inherit it.
    qputenv("FONTCONFIG_FILE", QByteArray(TELVANE_TEST_FONTS));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
