#pragma once
// A file that cannot be read, shown as text to be mended: the reader's whole
// message above the text, the line it names marked, and "Read again", which
// hands the text as it now stands to whoever reads it, or "Not now". The file
// on disk is not touched until the design read from the text is saved.

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

namespace propclear {

class BrokenFilePane : public QWidget {
  Q_OBJECT

 public:
  // The reader of a mended text: throws RunError while it is still broken.
  using Reader = std::function<void(const std::string& text)>;

  explicit BrokenFilePane(QWidget* parent = nullptr);

  // Shows `text` of `path` with the reader's `message` and the line it names
  // (0: none).
  void show(const std::filesystem::path& path, const std::string& text, const QString& message,
            long line, Reader reader);
  const std::filesystem::path& path() const { return path_; }
  QString message() const;
  // The line marked as the fault's, 1-based; 0 when none is.
  long markedLine() const { return markedLine_; }

  // Reads the text as it stands: a fault shows its message and marks its line.
  void readAgain();

 signals:
  // The text read: the pane has done its work.
  void read();
  // Left as it is.
  void dismissed();

 private:
  void markLine(long line);

  std::filesystem::path path_;
  Reader reader_;
  QLabel* message_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  long markedLine_ = 0;
  bool crlf_ = false;  // the file's lines end in CR LF
};

}  // namespace propclear
