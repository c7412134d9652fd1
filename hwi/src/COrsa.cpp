#include "COrsa.h"

COrsa::COrsa(COrsaUtil* util) : m_util(util) {}

COrsa::~COrsa() = default;
