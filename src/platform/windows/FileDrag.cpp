#include "platform/windows/FileDrag.h"

// clang-format off
#include <windows.h>
#include <ole2.h>
// clang-format on

#include "platform/windows/FileDataObject.h"

namespace quillfen::platform {

namespace {

// The mouse decides: releasing the button drops, Escape cancels. Like every COM object it ends
// through Release, not through the interface, which declares no destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DropSource final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the caller's stack for the length of the drag.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
        if (escapePressed) {
            return DRAGDROP_S_CANCEL;
        }
        return (keyState & (MK_LBUTTON | MK_RBUTTON)) == 0 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};
#pragma GCC diagnostic pop

// OLE's drag needs the thread in a single-threaded apartment with OLE started; the scope starts
// it for the drag when the thread has not.
class OleScope {
public:
    OleScope() : started_(SUCCEEDED(OleInitialize(nullptr))) {}
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (started_) {
            OleUninitialize();
        }
    }
    bool started() const { return started_; }

private:
    bool started_;
};

}  // namespace

bool dragFilesOut(const std::vector<std::string>& paths) {
    const OleScope ole;
    if (!ole.started() || paths.empty()) {
        return false;
    }
    DropSource source;
    FileDataObject* data = FileDataObject::create(paths);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    data->Release();
    return result == DRAGDROP_S_DROP;
}

}  // namespace quillfen::platform
