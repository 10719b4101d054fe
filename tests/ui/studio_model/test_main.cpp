// The studio's model tests run without widgets and without a display, in a
// plain core application (the file watcher needs its event loop), so that
// they also run under the sanitizers.

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
