// GetWord is inline in the header: it runs once per word of every file opened.
#include "app/word_tokeniser.h"
