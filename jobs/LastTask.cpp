#include "jobs/LastTask.h"

#include <cstdio>

#include "model/Text.h"

LastTaskLoad LoadLastTask(const std::u16string& path, PageList& pages)
{
    LastTaskLoad r;
    PageList loaded;
    r.status = LoadTaskFile(path, loaded);
    if (r.status != TaskFileStatus::Ok) {
        const std::u16string bad = path + u".bad";
        if (std::rename(ToUtf8(path).c_str(), ToUtf8(bad).c_str()) == 0) r.keptAs = bad;
        return r;
    }
    r.loaded = static_cast<int>(loaded.size());
    for (auto& p : pages) loaded.push_back(std::move(p));
    pages = std::move(loaded);
    return r;
}
