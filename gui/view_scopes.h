// Small RAII guards shared by the files of the document view.
#ifndef MORVIK_GUI_VIEW_SCOPES_H_
#define MORVIK_GUI_VIEW_SCOPES_H_

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

#endif  // MORVIK_GUI_VIEW_SCOPES_H_
