#pragma once
// The list views and combo boxes that the tables fill with record IDs. The desktop
// wraps its widgets, the command-line tool and the tests collect into a vector.

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace veld {

class ListTarget {
 public:
  virtual ~ListTarget() = default;
  virtual void Clear() = 0;
  // A list view: the new item goes to the top (the views sort their items themselves).
  virtual void InsertAtTop(const std::string& text) = 0;
  // A combo box: the new entry goes to the end.
  virtual void Append(const std::string& text) = 0;
  // InsertAtTop of each text in turn, so the last ends on top. One call per filling lets
  // a target place a whole table at once.
  virtual void InsertAllAtTop(std::vector<std::string> texts) {
    for (const std::string& text : texts) InsertAtTop(text);
  }
};

// A list target that keeps its items in a vector, in the order they would stand.
class VectorListTarget : public ListTarget {
 public:
  void Clear() override { items.clear(); }
  void InsertAtTop(const std::string& text) override { items.insert(items.begin(), text); }
  void Append(const std::string& text) override { items.push_back(text); }
  // One move of the items already there rather than one per text.
  void InsertAllAtTop(std::vector<std::string> texts) override {
    std::reverse(texts.begin(), texts.end());
    if (items.empty()) {
      items = std::move(texts);
    } else {
      items.insert(items.begin(), std::make_move_iterator(texts.begin()), std::make_move_iterator(texts.end()));
    }
  }

  std::vector<std::string> items;
};

}  // namespace veld
