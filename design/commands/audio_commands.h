// Calculate/Select Audio Processing File, Select WAV Input File, Process
// and Play, Play Input File and Play Output File (5030 .. 5034) on the
// program's auralisation state and sound. The reflection windows' "RTA"
// asks for a WAV input through SelectWavInput in kdn and kv alike.
#pragma once

#include "framework/shell/command_dispatch.h"

void SelectAudioProfile();
void SelectWavInput();
// Runs the audio command `id`; any other id is ignored.
void HandleAudioCommand(int id);
void BindAudioCommands(CommandRegistry& registry);
