#pragma once
// print.pbm written behind the decoding: while a job runs, the image rows no
// later band in order reaches any more go to an unnamed file in the record
// folder, so that at the job's end only the last bands' rows and the header
// are left to write before the file takes its name.
#include <cstdint>
#include <string>

#include "tools/machine-sim/JobRecord.h"

class CPbmStream {
public:
    // An unnamed file in dir; without one (a folder that cannot hold it),
    // nothing is written behind and Finish says so.
    explicit CPbmStream(const std::string& dir);
    ~CPbmStream();  // an unnamed file not finished goes away with it
    CPbmStream(const CPbmStream&) = delete;
    CPbmStream& operator=(const CPbmStream&) = delete;

    const std::string& Dir() const { return m_dir; }
    // After a band whose pixels start at row `bandRow0`: the rows above it
    // that are not in the file yet go there; rows from bandRow0 on may still
    // change. A band placed above what is written takes those rows back.
    void BandDecoded(const DecodedJob& d, int32_t bandRow0);
    // Writes what is still missing and names the file path (whole, or not
    // at all). False when the file could not be finished: write it whole.
    bool Finish(const DecodedJob& d, const std::string& path);

private:
    bool WriteRows(const DecodedJob& d, int32_t from, int32_t to);

    std::string m_dir;
    int m_fd = -1;              // the unnamed file, or -1 (none, or a write failed)
    std::string m_head;         // the header the rows in the file follow
    int32_t m_writtenRows = 0;  // rows [0, m_writtenRows) in the file equal the image's
};
