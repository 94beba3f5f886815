// FlagScope: a flag that is set while a scope runs (the view is changing
// the model itself; the view's text is being dragged out).
#ifndef MORVIK_APP_VIEW_FLAG_SCOPE_H_
#define MORVIK_APP_VIEW_FLAG_SCOPE_H_

namespace morvik {

// Sets flag while it lives, and gives back its earlier value after.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = previous_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace morvik

#endif  // MORVIK_APP_VIEW_FLAG_SCOPE_H_
