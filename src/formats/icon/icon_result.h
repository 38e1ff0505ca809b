// The result of the icon, cursor and animated cursor readers and writers.
#pragma once

enum [[nodiscard]] IconResult : int{
    IconOk = 0,
    IconStopped = 1,       // reader: the sink asked to stop
    IconEncodeFailed = 1,  // writer: the PNG encoding of an entry failed
    IconInvalidArg = 2,    // null path or records, a count of 0, inconsistent counts
    IconBadFormat = 3,     // a check failed, data is short or out of place, nothing decoded
    IconUnsupported = 4,   // a valid file of a kind not handled (a big-endian RIFX file)
    IconSystemError = 5,   // a file call failed; errno holds the system's code
    IconOutOfMemory = 6,
};
