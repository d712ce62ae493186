#pragma once
// A CertificateCanvas that records what is drawn (fonts, texts with their rectangles and
// the font in use, rules), for checking a layout without a printer.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reports/certificate_canvas.h"

namespace veld::test {

class RecordingCanvas : public CertificateCanvas {
 public:
  struct Text {
    PixelRect rect;
    std::string text;
    TextAlign align = TextAlign::Left;
    FontRequest font;
  };

  explicit RecordingCanvas(PageMetrics metrics) : metrics_(metrics) {}

  PageMetrics Metrics() const override { return metrics_; }

  std::unique_ptr<CanvasFont> MakeFont(const FontRequest& request) override {
    if (fonts_made_++ == refuse_font) return nullptr;
    return std::make_unique<Font>(request);
  }
  void SelectFont(const CanvasFont& font) override { selected_ = font.Request(); }
  void DrawTextInRect(const PixelRect& rect, const std::string& text, TextAlign align) override {
    texts.push_back({rect, text, align, selected_});
  }
  void DrawRule(const PixelRect& rect) override { rules.push_back(rect); }
  bool DrawImage(const PixelRect& rect, const std::string& host_path) override {
    images.push_back({rect, host_path});
    return true;
  }

  // The texts whose rectangle starts at the pixel (left, top).
  std::vector<const Text*> TextsAt(int left, int top) const {
    std::vector<const Text*> found;
    for (const Text& text : texts) {
      if (text.rect.left == left && text.rect.top == top) found.push_back(&text);
    }
    return found;
  }
  // The first text drawn with exactly these characters, or null.
  const Text* Find(const std::string& characters) const {
    for (const Text& text : texts) {
      if (text.text == characters) return &text;
    }
    return nullptr;
  }
  // What stays visible of a text clipped to its box when every character takes the
  // font's average width.
  static std::string Visible(const Text& text) {
    if (text.font.width <= 0) return text.text;
    return text.text.substr(0, static_cast<size_t>(text.rect.Width() / text.font.width));
  }

  std::vector<Text> texts;
  std::vector<PixelRect> rules;
  std::vector<std::pair<PixelRect, std::string>> images;
  int refuse_font = -1;  // index of the MakeFont call that fails, -1 for none

 private:
  class Font : public CanvasFont {
   public:
    explicit Font(FontRequest request) : request_(std::move(request)) {}
    const FontRequest& Request() const override { return request_; }

   private:
    FontRequest request_;
  };

  PageMetrics metrics_;
  FontRequest selected_;
  int fonts_made_ = 0;
};

}  // namespace veld::test
