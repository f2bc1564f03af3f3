// Precompiled header for the libraries that build widgets.
#pragma once
#include "pch_core.h"
#include <QtWidgets/QWidget>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QApplication>
