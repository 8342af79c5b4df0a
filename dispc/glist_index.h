// The picking index of a vcGraphicList: a packed R-tree over the graphics'
// bounding boxes (bulk-loaded in Hilbert order) with exact distances from
// the graphics themselves, searched best first. Graphics added or changed
// after the last build wait in a short loose list that every query scans;
// removed ones leave holes in the tree. Both are folded into a fresh tree
// once they grow past a fraction of it.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include <vc/glist.h>

class vc_GraphicIndex {
public:
  using Items = std::vector<vcPtrHandle<vcGraphic>>;

  // Indexes items (the list's own vector, which outlives the index) when
  // first asked.
  explicit vc_GraphicIndex(const Items& items) : items_(items) {}
  ~vc_GraphicIndex();
  vc_GraphicIndex(const vc_GraphicIndex&) = delete;
  vc_GraphicIndex& operator=(const vc_GraphicIndex&) = delete;

  // The list's vector was handed out for writing: check it before next use.
  void mayHaveChanged() noexcept { unverified_ = true; }
  // count items were inserted at position at, or removed from it.
  void inserted(long at, long count);
  void removed(long at, long count);

  void build();
  std::optional<vcGraphicPick> nearest(const vcVector<2>& p, double maxDistance);
  std::vector<vcGraphicPick> within(const vcVector<2>& p, double radius);
  std::vector<vcGraphicPick> intersecting(const vcRect& r);

  struct Box {
    double x0, y0, x1, y1;
  };

private:
  // One list position. Its watcher reports changes of the graphic.
  struct Slot final : vcGraphicWatcher {
    vc_GraphicIndex* owner = nullptr;
    int self = -1;
    long pos = -1;
    vcPtrHandle<vcGraphic> g;
    Box box{};
    bool pickable = false;   // a graphic that is not null-valued
    bool bounded = false;    // box holds the graphic (else checked on every query)
    bool dirty = false;      // changed since box was taken
    int leaf = -1;           // position among the tree's leaves, or -1
    int looseAt = -1;        // position in loose_, or -1
    void graphicChanging(const vcGraphic&) noexcept override;
  };
  // A candidate of the best-first search: a tree node (level >= 1), a leaf
  // (level 0, idx a leaf position), a loose slot (level -1) or an exact
  // distance (level -2, idx a slot).
  struct Cand {
    double key;
    int level;
    int idx;
  };
  struct CandAfter {
    const vc_GraphicIndex* ix;
    bool operator()(const Cand& a, const Cand& b) const;
  };

  void prepare();
  void rebuildAll();
  void buildTree();
  int newSlot(long pos, const vcPtrHandle<vcGraphic>& g);
  void dropSlot(int s);
  void takeBox(Slot& s);
  void loosen(Slot& s);
  void unloose(Slot& s);
  void renumber(long from);
  double exactDistance(const Slot& s, const vcVector<2>& p) const;
  // Runs the best-first search, handing out (slot, distance) in order of
  // distance then position, until visit returns false or nothing within
  // limit is left.
  template <class Visit>
  void search(const vcVector<2>& p, double limit, Visit visit);

  const Items& items_;
  bool built_ = false;
  bool unverified_ = false;
  std::deque<Slot> slots_;
  std::vector<int> freeSlots_;
  std::vector<int> order_;   // list position -> slot
  std::vector<int> dirty_;   // slots told of a change
  std::vector<int> loose_;   // slots outside the tree
  long looseBounded_ = 0;
  long holes_ = 0;
  // levels_[0] are the leaves' boxes in tree order, leafSlot_ their slots
  // (-1 for a hole); levels_[k + 1][j] bounds levels_[k][j*M .. j*M + M).
  std::vector<std::vector<Box>> levels_;
  std::vector<int> leafSlot_;
  std::vector<Cand> heap_;
};
