// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/BackupTarget.h"
#include "engine/EngineContext.h"
#include "engine/MediaRecords.h"
#include "worker/DriveFlags.h"
#include "worker/RunOutcome.h"

#include <QObject>

namespace kx {

/**
 * The backup drive the windows share: the backup target and the medium records of the engine's
 * context, and the flags of what the drive last told of its medium. Between runs this is the one
 * place that changes them; the windows show what it signals and forward the user's choices.
 *
 *     BackupDrive drive(ctx, flags);   // reads the stored drive into the target
 *     drive.start();                   // the windows are up: the stored drive is chosen
 *     drive.choose('f');               // the user chose another drive
 *     drive.apply(runner.outcome());   // what a run left
 *
 * Create and use it on the GUI thread.
 */
class BackupDrive : public QObject
{
    Q_OBJECT

public:
    /** Works on the context's target and records and on `flags`; reads the stored backup drive
     *  into the target. */
    BackupDrive(EngineContext& ctx, DriveFlags& flags, QObject* parent = nullptr);

    const BackupTarget& target() const { return m_ctx.target; }
    const MediaRecords& media() const { return m_ctx.media; }
    const DriveFlags& flags() const { return m_flags; }
    /** The drive letter of the target, lower case; 0 without one. */
    char letter() const;
    /** The windows are up: a choice takes effect. */
    bool ready() const { return m_ready; }
    /** Drive a: held no floppy when the drive was last chosen. */
    bool floppyMissing() const { return m_floppyMissing; }

    /** The windows are up: chooses the stored drive, or the drive lists' default (c:, else the
     *  first drive) where the stored one is not in the drive table. */
    void start();
    /** Chooses the backup drive: sets the backup root, the medium's records, the flags and the
     *  status line. Before start() it only sets the computer's folder. */
    void choose(char letter);
    /** Looks again whether drive a: holds a floppy; true, with the flags set, when it does
     *  not. */
    bool checkFloppy();
    /** Takes what a run left: the target, the records and the flags it found. */
    void apply(const RunOutcome& outcome);
    /** Stores the backup drive in the settings, unless it held no medium: a floppy drive with
     *  a disk is stored all the same. */
    void store();

signals:
    /** Emitted first by start(): a window loads what must come before the choice (its questions
     *  come before the drive's). */
    void aboutToStart();
    /** A choice took effect: the target, the records and the flags are those of `letter`. */
    void chosen(char letter);
    /** The chosen medium can be duplicated (a removable or CD drive), or not. */
    void duplicateAllowedChanged(bool allowed);
    /** A run's result changed the target, the records or the flags. */
    void changed();

private:
    EngineContext& m_ctx;
    DriveFlags& m_flags;
    bool m_ready = false;
    // The missing floppy is told once.
    bool m_floppyTold = false;
    bool m_floppyMissing = false;
};

} // namespace kx
