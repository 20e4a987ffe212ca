#pragma once

#include <string>
#include <unordered_map>

namespace quillfen {

// Text to image index, where -1 stands for "not known" so callers can test a lookup without a
// second map search.
class StringIndexMap {
public:
    static constexpr int kAbsent = -1;

    int lookup(const std::string& key) const;
    bool contains(const std::string& key) const;
    void set(const std::string& key, int value);
    // Keeps an existing value and returns the value now stored under the key.
    int setIfAbsent(const std::string& key, int value);

private:
    std::unordered_map<std::string, int> values_;
};

}  // namespace quillfen
