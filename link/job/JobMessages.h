#pragma once
// The operator's texts of the job start and the sending thread, by key.
#include <string>

// The text of a job message key in the language slot's language (0 Chinese,
// anything else English). Keys: "WidthExceeded", "SendCommandFailed",
// "TooManyPoints" (the long-cut split past the point limit), "KnifePassTooLong"
// (a cut pass beyond the knife records, found at the job start),
// "KnifePassRefused" (the same found at the pass), "OutOfMemory" (the job
// start's preparation), "ListNotKept" (the job list that would hold the job as
// started could not be saved) and the parameter keys of CheckJobParams; an
// unknown key gives the key itself.
std::u16string JobMessageText(const char* key, int language);
