// What the reformatter needs of a progress display while it converts a long
// text. The program's progress window implements it; tests record the calls.
#pragma once

namespace kst {

class ProgressIndicator {
  public:
    virtual ~ProgressIndicator() = default;
    virtual int Create(void* instance) = 0;
    virtual void Init() = 0;
    virtual void SetStep(int position) = 0;
    virtual int GetStep() const = 0;
    virtual void Destroy() = 0;
};

} // namespace kst
