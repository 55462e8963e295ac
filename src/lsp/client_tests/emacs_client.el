;;; emacs_client.el --- drives scenario-tool lsp through Emacs's eglot, headless.
;; Opens the train document given in SCENARIO_TRAIN (with a misspelt
;; "sengale" planted), waits for eglot's diagnostics, asks for the quick fix
;; of the misspelling and applies it with eglot's own workspace-edit code,
;; then asks eglot's connection for the inlay hints of the whole document.
;; Writes what it saw to RESULT, one fact a line.
(require 'eglot)
(require 'flymake)

(define-derived-mode scenario-mode text-mode "Scenario")
(add-to-list 'eglot-server-programs
             `(scenario-mode ,(getenv "SCENARIO_TOOL") "lsp"))
(setq eglot-sync-connect 10)

(defvar result-lines nil)
(defun note (fmt &rest args) (push (apply #'format fmt args) result-lines))

(defun wait-for (test seconds)
  (let ((until (+ (float-time) seconds)))
    (while (and (not (funcall test)) (< (float-time) until))
      (accept-process-output nil 0.1))
    (funcall test)))

(let ((coding-system-for-read 'windows-1252))
  (find-file (getenv "SCENARIO_TRAIN")))
(scenario-mode)
(apply #'eglot (eglot--guess-contact))
(eglot--maybe-activate-editing-mode)
(note "connected %s" (if (eglot-current-server) "yes" "no"))
(note "diagnostics %d"
      (if (wait-for (lambda () (flymake-diagnostics)) 20) (length (flymake-diagnostics)) 0))

;; The quick fix for the misspelt keyword, applied by eglot.
(goto-char (point-min))
(search-forward "sengale")
(let* ((server (eglot-current-server))
       (beg (line-beginning-position))
       (actions (jsonrpc-request
                 server :textDocument/codeAction
                 (list :textDocument (eglot--TextDocumentIdentifier)
                       :range (list :start (eglot--pos-to-lsp-position beg)
                                    :end (eglot--pos-to-lsp-position beg))
                       :context (list :diagnostics [])))))
  (let ((fix (seq-find (lambda (a) (string-match-p "Replace with 'segnale'"
                                                   (plist-get a :title)))
                       actions)))
    (note "quick fix offered %s" (if fix "yes" "no"))
    (when fix (eglot--apply-workspace-edit (plist-get fix :edit)))
    (goto-char beg)
    (note "line after fix %s" (buffer-substring beg (+ beg 7)))))

;; Inlay hints over the whole document.
(let ((hints (jsonrpc-request
              (eglot-current-server) :textDocument/inlayHint
              (list :textDocument (eglot--TextDocumentIdentifier)
                    :range (list :start (eglot--pos-to-lsp-position (point-min))
                                 :end (eglot--pos-to-lsp-position (point-max)))))))
  (note "inlay hints %d" (length hints))
  (when (> (length hints) 0) (note "first hint%s" (plist-get (aref hints 0) :label))))

(with-temp-file (getenv "RESULT")
  (insert (mapconcat #'identity (reverse result-lines) "\n") "\n"))
(let ((server (eglot-current-server)))
  (when server (ignore-errors (eglot-shutdown server))))
(kill-emacs 0)
