#include "results/StringIndexMap.h"

namespace quillfen {

int StringIndexMap::lookup(const std::string& key) const {
    const auto found = values_.find(key);
    return found == values_.end() ? kAbsent : found->second;
}

bool StringIndexMap::contains(const std::string& key) const {
    return values_.contains(key);
}

void StringIndexMap::set(const std::string& key, int value) {
    values_.insert_or_assign(key, value);
}

int StringIndexMap::setIfAbsent(const std::string& key, int value) {
    return values_.try_emplace(key, value).first->second;
}

}  // namespace quillfen
