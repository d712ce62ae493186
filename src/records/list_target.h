#pragma once
// The list views and combo boxes that the tables fill with record IDs. The desktop
// wraps its widgets, the command-line tool and the tests collect into a vector.

#include <string>
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
};

// A list target that keeps its items in a vector, in the order they would stand.
class VectorListTarget : public ListTarget {
 public:
  void Clear() override { items.clear(); }
  void InsertAtTop(const std::string& text) override { items.insert(items.begin(), text); }
  void Append(const std::string& text) override { items.push_back(text); }

  std::vector<std::string> items;
};

}  // namespace veld
