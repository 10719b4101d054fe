// Text in the plot and the prompts must come out as letters, not as the empty
// boxes of a missing font.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace propclear {
namespace {

TEST(Fonts, ArialResolvesToLiberationSans) {
  const QFontInfo resolved(QFont("Arial"));
  EXPECT_EQ(resolved.family().toStdString(), "Liberation Sans")
      << "the plot's \"Arial\" needs fontconfig's substitute: install fonts-liberation2";
}

void expectGlyphsFor(const QFont& font, const QString& text) {
  const QFontMetrics metrics(font);
  for (const QChar character : text) {
    EXPECT_TRUE(metrics.inFont(character))
        << "no glyph for U+" << std::hex << static_cast<unsigned>(character.unicode()) << " in "
        << QFontInfo(font).family().toStdString() << ": it would be drawn as a box";
  }
}

TEST(Fonts, PlotLabelsHaveGlyphs) {
  expectGlyphsFor(QFont("Arial"), QStringLiteral("B.L. DWL A.P. a b c a' b' c' 0123456789=,-"));
}

TEST(Fonts, PromptMessagesHaveGlyphs) {
  expectGlyphsFor(QApplication::font(),
                  QString::fromUtf8("Lütfen ilgili postadaki nokta sayısını 251 'e indirin. "
                                    "Programı sonlandırmak için 'Enter' tuşuna basın. E/H <H>"));
}

QImage glyphImage(const QString& letter) {
  QImage image(40, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QFont font("Arial");
  font.setPixelSize(24);
  painter.setFont(font);
  painter.drawText(QRect(0, 0, 40, 40), Qt::AlignCenter, letter);
  return image;
}

// A missing font draws every letter as the same box.
TEST(Fonts, DifferentLettersDrawDifferently) {
  EXPECT_NE(glyphImage(QStringLiteral("B")), glyphImage(QStringLiteral("L")));
  EXPECT_NE(glyphImage(QStringLiteral("B")), glyphImage(QStringLiteral(" ")));
}

}  // namespace
}  // namespace propclear
