#pragma once

namespace quillfen::platform {

// Shell calls may load shell extensions, which are COM objects and need an apartment on the
// calling thread. The scope joins the thread's apartment when it has one and otherwise opens one
// for its own lifetime only: shell calls come from search threads and the user-interface thread
// alike, and each is rare enough that the cost stays small. A thread already in the
// multithreaded apartment keeps it.
class ComScope {
public:
    ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope();

private:
    bool initialized_;
};

}  // namespace quillfen::platform
