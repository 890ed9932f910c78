// The use count of a shared file in a Windows folder (files/use_counts.h), raised by an install
// and noted in the install record.
#pragma once

// Raises the use count of `path` by one for this install, unless the install record already
// counts it (a reinstall counts once; one after an uninstall that lowered the count counts anew),
// and then records that it did. A file that was there without a count (`otherOwner`) belonged to
// another program, whose use counts one as well.
void RaiseUseCount(const char* path, bool otherOwner);
